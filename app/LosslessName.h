#pragma once
// A file name as the window holds it. A name is bytes, and the window's text is UTF-16: a
// name that is not UTF-8 (an old archive's Latin-1 names) would lose its odd bytes in the
// usual decoding and then name no file. Here each byte that is not part of valid UTF-8 is kept
// as one of the 128 unpaired surrogates U+DC80..U+DCFF, which valid UTF-8 never decodes to, so
// the bytes come back exactly when the file is opened. People are shown the escaped form.

#include <string>

#include <QString>

// `bytes` as text, every byte kept (see above).
QString NameFromBytes(const std::string& bytes);
// The bytes of a name made by NameFromBytes, or of any other text (as UTF-8).
std::string BytesOfName(const QString& name);
// The name as a person reads it: bytes that are not UTF-8 and control characters escaped.
QString ShownName(const std::string& bytes);
// The last part of the name (after its last '/'), as ShownName shows it.
QString ShownBaseName(const std::string& bytes);
