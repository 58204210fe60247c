#pragma once

// Tags and playing times of MPEG audio and RIFF WAVE files: ID3 version 1, ID3 version 2.2 to
// 2.4 text frames, RIFF INFO lists, and the duration from the first MPEG frame header (with its
// Xing or VBRI header) or from a PCM WAVE's format and data chunks. A MacBinary wrapper and
// a RIFF "RMP3" file are looked through.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>

namespace kestrel {

// Random access to the bytes of one file, read piece by piece.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    virtual int64_t Size() const = 0;
    // Up to count bytes from offset; fewer at the end, none outside.
    virtual QByteArray Read(int64_t offset, int64_t count) = 0;
};

class TMemorySource : public TByteSource {
public:
    explicit TMemorySource(QByteArray bytes) : bytes_(std::move(bytes)) {}
    int64_t Size() const override { return bytes_.size(); }
    QByteArray Read(int64_t offset, int64_t count) override;

private:
    QByteArray bytes_;
};

// A regular file, read through a small window so that the many short reads of a tag cost
// one system call while large frames (cover pictures) are stepped over unread.
class TFileSource : public TByteSource {
public:
    // Fails (EKestrel) for anything but a regular file that can be opened for reading.
    explicit TFileSource(const QString& path);
    int64_t Size() const override { return size_; }
    QByteArray Read(int64_t offset, int64_t count) override;

private:
    QFile file_;
    int64_t size_ = 0;
    QByteArray window_;
    int64_t windowStart_ = 0;
};

class TMP3FileInfo {
public:
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& name) { fileName_ = name; }

    // Reads FileName. True when a duration source was found (an MPEG frame header, or a WAVE's
    // format and data); the texts are filled as far as found either way.
    bool Read();
    // The same from bytes already at hand; FileName only supplies the fallback title.
    bool Read(TByteSource& source);

    int Seconds() const { return seconds_; }
    const QString& Title() const { return title_; }
    const QString& Artist() const { return artist_; }
    const QString& Album() const { return album_; }
    const QString& Comment() const { return comment_; }
    const QString& Year() const { return year_; }
    const QString& Genre() const { return genre_; }
    const QString& RightsNote() const { return rightsNote_; }
    const QString& EncodedBy() const { return encodedBy_; }
    const QString& OriginalAlbum() const { return originalAlbum_; }
    const QString& EncoderSettings() const { return encoderSettings_; }

private:
    friend class TTagReader;
    void Clear();
    // The field a four-character ID3v2.3 frame, three-character ID3v2.2 frame or RIFF INFO id
    // fills; null for any other id.
    QString* FieldOf(const QByteArray& id);

    QString fileName_;
    int seconds_ = 0;
    QString title_, artist_, album_, comment_, year_, genre_;
    QString rightsNote_, encodedBy_, originalAlbum_, encoderSettings_;
};

// The file's name without its folder and its last extension ("Best.mp3 Hits.mp3" gives
// "Best.mp3 Hits").
QString BaseNameWithoutExtension(const QString& path);

}  // namespace kestrel
