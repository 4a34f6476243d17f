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

Reader::Stream::Stream(void* file, QString member, qint64 limit)
    : m_file(file), m_member(std::move(member)), m_limit(limit) {}

Reader::Stream::~Stream() { zip_fclose(static_cast<zip_file_t*>(m_file)); }

QByteArray Reader::Stream::next() {
    QByteArray piece(256 * 1024, Qt::Uninitialized);
    const zip_int64_t got = zip_fread(static_cast<zip_file_t*>(m_file), piece.data(), zip_uint64_t(piece.size()));
    if (got < 0) throw Failure(Failure::Kind::damaged, m_member);
    // What is inflated is counted as it comes, whatever size the archive claims.
    m_read += got;
    if (m_read > m_limit) throw Failure(Failure::Kind::tooLarge, m_member);
    piece.truncate(qsizetype(got));
    return piece;
}

std::unique_ptr<Reader::Stream> Reader::open(const QString& member, qint64 limit) const {
    const QByteArray name = member.toUtf8();
    zip_stat_t stat;
    if (zip_stat(m_archive->zip, name.constData(), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
        stat.size > zip_uint64_t(limit)) {
        throw Failure(Failure::Kind::tooLarge, member);
    }
    zip_file_t* file = zip_fopen(m_archive->zip, name.constData(), 0);
    if (!file) throw Failure(Failure::Kind::damaged, member);
    return std::unique_ptr<Stream>(new Stream(file, member, limit));
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
        // The fastest deflate: a workbook's XML shrinks tenfold all the same.
        zip_set_file_compression(zip, zip_uint64_t(index), member.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 1);
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
