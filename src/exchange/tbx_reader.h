#pragma once

#include <QString>
#include <cstdint>

#include "exchange/glossary.h"

class QIODevice;

// Reads a TBX glossary, checked whole: the martif form (TBX 2008, TBX-Basic
// and what translation tools write) and the tbx form of ISO 30042:2019
// (conceptEntry, langSec, termSec; TBX-Basic and TBX-Core, in the DCA and
// the DCT styles). Each entry keeps
// its terms per language with their status and part of speech, its notes,
// definitions, contexts, sources and subject fields where they stand; the
// indentation of the file is not kept in its texts. Throws ExchangeError,
// naming the line, for what is not well-formed XML, not a glossary, an entry
// inside an entry, text nested too deep, more entries than `room`, or a
// document type that names its own DTD, declares entities or leaves one
// undeclared: nothing outside the file is ever fetched.
glossary::Glossary readTbx(QIODevice& in, const QString& fileName, std::int32_t room);
