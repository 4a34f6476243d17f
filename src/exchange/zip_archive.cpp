#include "exchange/zip_archive.h"

#include <zip.h>

namespace ziparchive {

Failure::Failure(Kind failed, const QString& name)
    : std::runtime_error("zip archive"), kind(failed), member(name) {}

struct Reader::Archive {
    zip_t* zip = nullptr;
    ~Archive() {
        if (zip) zip_discard(zip);
    }
};

Reader::Reader(QByteArray bytes) : m_bytes(std::move(bytes)), m_archive(std::make_unique<Archive>()) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
    if (source) m_archive->zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (source && !m_archive->zip) zip_source_free(source);
    zip_error_fini(&error);
    if (!m_archive->zip) throw Failure(Failure::Kind::notZip, QString());
}

Reader::~Reader() = default;

bool Reader::has(const QString& member) const {
    return zip_name_locate(m_archive->zip, member.toUtf8().constData(), 0) >= 0;
}

QByteArray Reader::read(const QString& member, qint64 limit) const {
    const QByteArray name = member.toUtf8();
    zip_file_t* file = zip_fopen(m_archive->zip, name.constData(), 0);
    if (!file) throw Failure(Failure::Kind::damaged, member);
    // The size the archive claims only sizes the first allocation: what is
    // inflated is counted as it comes, whatever the claim.
    zip_stat_t stat;
    const bool claimed = zip_stat(m_archive->zip, name.constData(), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE);
    if (claimed && stat.size > zip_uint64_t(limit)) {
        zip_fclose(file);
        throw Failure(Failure::Kind::tooLarge, member);
    }
    QByteArray bytes;
    bytes.reserve(claimed ? qsizetype(stat.size) : 0);
    char chunk[64 * 1024];
    for (;;) {
        const zip_int64_t got = zip_fread(file, chunk, sizeof chunk);
        if (got < 0) {
            zip_fclose(file);
            throw Failure(Failure::Kind::damaged, member);
        }
        if (got == 0) break;
        if (bytes.size() + got > limit) {
            zip_fclose(file);
            throw Failure(Failure::Kind::tooLarge, member);
        }
        bytes.append(chunk, qsizetype(got));
    }
    zip_fclose(file);
    return bytes;
}

void Writer::add(const QString& member, QByteArray bytes, bool stored) {
    m_members.push_back({member, std::move(bytes), stored});
}

QByteArray Writer::finish() const {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!target) throw std::bad_alloc();
    zip_source_keep(target);
    zip_t* zip = zip_open_from_source(target, ZIP_TRUNCATE, nullptr);
    bool ok = zip != nullptr;
    for (const Member& member : m_members) {
        if (!ok) break;
        zip_source_t* bytes = zip_source_buffer(zip, member.bytes.constData(), zip_uint64_t(member.bytes.size()), 0);
        const zip_int64_t index =
            bytes ? zip_file_add(zip, member.name.toUtf8().constData(), bytes, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (bytes) zip_source_free(bytes);
            ok = false;
            break;
        }
        zip_set_file_compression(zip, zip_uint64_t(index), member.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 6);
    }
    if (zip && (!ok || zip_close(zip) != 0)) {
        zip_discard(zip);
        ok = false;
    }
    QByteArray archive;
    zip_stat_t stat;
    if (ok && zip_source_open(target) == 0) {
        if (zip_source_stat(target, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
            archive.resize(qsizetype(stat.size));
            ok = zip_source_read(target, archive.data(), stat.size) == zip_int64_t(stat.size);
        }
        zip_source_close(target);
    }
    zip_source_free(target);
    if (!ok) throw std::bad_alloc();
    return archive;
}

}  // namespace ziparchive
