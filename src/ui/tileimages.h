#pragma once
// The 36 pictures of a tile set, cut from one strip of 56 x 56 tiles in which
// pure green (0, 255, 0) is transparent.

#include <QImage>
#include <QPixmap>
#include <QString>
#include <array>

class TileImages {
public:
    static constexpr int Count = 36;
    static constexpr int Size = 56;

    // Loads a strip of 36 tiles; one of another size is padded with blank
    // or cut. False (and nothing changed) when the file is no picture.
    bool load(const QString &path);
    bool loadClassic();
    const QPixmap &operator[](int code) const;
    bool isValidCode(int code) const { return code >= 0 && code < Count; }

private:
    QImage m_strip; // the key colour already transparent
    int m_scale = 1; // 2 for the doubled strip
    mutable std::array<QPixmap, Count> m_images; // cut when first wanted
};
