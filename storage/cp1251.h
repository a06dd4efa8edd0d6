#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace vusk {

// Windows-1251 through our own table, so files convert the same on every platform
// whatever the system's code page. Byte 0x98 has no character in the code page; it
// maps to U+0098 and back so that any file re-saves byte for byte.

char16_t cp1251ToUnicode(uchar byte);

// nullopt for a character the code page cannot hold.
std::optional<uchar> unicodeToCp1251(char16_t ch);

// Every byte has a character, so decoding cannot fail.
QString decodeCp1251(QByteArrayView bytes);

// Appends the encoded text to *out. On a character the code page cannot hold, *out is
// left as it was and false is returned. Nothing is ever replaced by '?'.
bool appendCp1251(QStringView text, QByteArray *out);

} // namespace vusk
