#pragma once

#include <QString>
#include <vector>

#include "exchange/card_text.h"

class QIODevice;

// Reads the cards of a TBX glossary in the martif form, checked whole before
// any is given: the reverse of TbxWriter, and what other tools write (the
// first term of each language, notes, definitions, contexts and sources where
// they stand). The source language is the one the martif element names, the
// target the first other one. Throws ExchangeError, naming the entry and the
// line, for what is not well-formed XML, not a glossary, an entry without a
// term, or a document type that names its own DTD or declares entities:
// nothing outside the file is ever fetched.
std::vector<CardText> readTbx(QIODevice& in, const QString& fileName);
