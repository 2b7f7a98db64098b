#include "platform/Zip.h"

#include <zip.h>

struct TZipReader::TImpl {
    zip_t* Archive = nullptr;
};

TZipReader::TZipReader(const QByteArray& bytes)
    : FBytes(bytes)
    , FImpl(std::make_unique<TImpl>())
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(FBytes.constData(), zip_uint64_t(FBytes.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        throw EZipError(QStringLiteral("Cannot read the archive"));
    }
    FImpl->Archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!FImpl->Archive) {
        zip_source_free(source);
        const QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        throw EZipError(QStringLiteral("Not a readable archive: ") + why);
    }
    zip_error_fini(&error);
    const zip_int64_t n = zip_get_num_entries(FImpl->Archive, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* name = zip_get_name(FImpl->Archive, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        FNames << (name ? QString::fromUtf8(name) : QString());
    }
}

TZipReader::~TZipReader()
{
    if (FImpl->Archive) zip_discard(FImpl->Archive);
}

QByteArray TZipReader::Read(const QString& name) const
{
    const QByteArray utf8 = name.toUtf8();
    const zip_int64_t index = zip_name_locate(FImpl->Archive, utf8.constData(), 0);
    if (index < 0) throw EZipError(QStringLiteral("The archive has no entry ") + name);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(FImpl->Archive, zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        throw EZipError(QStringLiteral("Damaged archive entry ") + name);
    if (st.size > zip_uint64_t(MaxEntryBytes)) throw EZipError(QStringLiteral("Archive entry too large: ") + name);
    zip_file_t* file = zip_fopen_index(FImpl->Archive, zip_uint64_t(index), 0);
    if (!file) throw EZipError(QStringLiteral("Damaged archive entry ") + name);
    QByteArray out(qsizetype(st.size), Qt::Uninitialized);
    zip_int64_t got = 0;
    bool ok = true;
    while (got < zip_int64_t(st.size)) {
        const zip_int64_t r = zip_fread(file, out.data() + got, st.size - zip_uint64_t(got));
        if (r <= 0) {
            ok = false;
            break;
        }
        got += r;
    }
    // One more byte must not come: the entry is no longer than it says.
    char extra;
    if (ok && zip_fread(file, &extra, 1) != 0) ok = false;
    zip_fclose(file);
    if (!ok) throw EZipError(QStringLiteral("Damaged archive entry ") + name);
    return out;
}

QByteArray WriteZip(const std::vector<std::pair<QString, QByteArray>>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer) {
        zip_error_fini(&error);
        throw EZipError(QStringLiteral("Cannot create the archive"));
    }
    zip_t* za = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!za) {
        zip_source_free(buffer);
        throw EZipError(QStringLiteral("Cannot create the archive"));
    }
    zip_source_keep(buffer);
    auto fail = [&](const QString& what) {
        zip_discard(za);
        zip_source_free(buffer);
        return EZipError(what);
    };
    for (const auto& [name, data] : entries) {
        zip_source_t* s = zip_source_buffer(za, data.constData(), zip_uint64_t(data.size()), 0);
        if (!s) throw fail(QStringLiteral("Cannot add ") + name);
        const zip_int64_t i = zip_file_add(za, name.toUtf8().constData(), s, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (i < 0) {
            zip_source_free(s);
            throw fail(QStringLiteral("Cannot add ") + name);
        }
        zip_set_file_compression(za, zip_uint64_t(i), ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(za) != 0) {
        zip_discard(za);
        zip_source_free(buffer);
        throw EZipError(QStringLiteral("Cannot write the archive"));
    }
    QByteArray out;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(buffer, &st) == 0 && zip_source_open(buffer) == 0) {
        out.resize(qsizetype(st.size));
        const zip_int64_t r = zip_source_read(buffer, out.data(), st.size);
        zip_source_close(buffer);
        if (r != zip_int64_t(st.size)) out.clear();
    }
    zip_source_free(buffer);
    if (out.isEmpty()) throw EZipError(QStringLiteral("Cannot write the archive"));
    return out;
}
