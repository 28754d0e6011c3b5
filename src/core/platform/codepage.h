#pragma once
// Japanese Windows code page 932, the encoding of every file Orvanta writes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace orvanta::cp932 {

// Encodes text. A character that the code page cannot hold is left out: the
// encoder never writes replacement bytes for it.
QByteArray Encode(const QString& text);

// Decodes bytes; never fails and never reads past the bytes given. A byte
// that is no part of any character (damaged text) reads as the private-use
// character U+F700 + byte, which Encode writes back as that byte: text read
// from a file is written back as it was read.
QString Decode(QByteArrayView bytes);

// True when every character of the text can be written in code page 932 (a
// kept byte of damaged text included).
bool CanEncode(const QString& text);

// The text with the characters that input methods outside Windows type where
// a Windows one types a character of the code page replaced by that
// character: "〜" U+301C by "～" U+FF5E, "−" U+2212 by "－" U+FF0D, "—" U+2014
// by "―" U+2015, "‖" U+2016 by "∥" U+2225, "¢" by "￠", "£" by "￡", "¬" by
// "￢". Each replaces one character by one, so positions in the text stay.
QString ToCodePageForms(const QString& text);

// The text without the characters that code page 932 cannot hold. Editing
// windows run it as text is typed, so that what is shown is what is stored.
QString KeepEncodable(const QString& text);

}  // namespace orvanta::cp932
