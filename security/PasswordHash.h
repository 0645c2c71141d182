#pragma once

#include <QString>

#include <optional>

namespace quillan::security {

// The stored password is a salted PBKDF2-HMAC-SHA256 hash of the password's
// bytes in the files' encoding, written as
//   pbkdf2-sha256$<iterations>$<salt, base64>$<hash, base64>
inline constexpr int kHashIterations = 600000;
inline constexpr int kSaltBytes = 16;
inline constexpr int kHashBytes = 32;
// The most iterations a stored value may ask for: what this program uses. A
// value that asks for more was not written here, and a check must never
// hold the start-up for seconds.
inline constexpr int kMaxHashIterations = kHashIterations;

// A fresh salt and the hash of `password` in the stored form; nothing when
// the system could not give random bytes or the hash failed.
std::optional<QString> hashPassword(const QString& password, int iterations = kHashIterations);

// True when `stored` is in the hash form above (a well-formed header, a
// salt, a hash of 32 bytes, 1 to kMaxHashIterations iterations).
bool isPasswordHash(const QString& stored);

// True when `stored` (cleaned) begins like the hash form but is not one: a
// damaged value, never compared as plain text.
bool isMalformedPasswordHash(const QString& stored);

// The stored text cleaned for the comparison: the first CR removed, then the
// first LF, then blanks (ASCII space and the full-width space) trimmed at
// both ends. A value written with its terminating zero reads back ending in
// CR LF, which this removes.
QString cleanStoredPassword(const QString& stored);

// Blanks at either end (or nothing but blanks): such a password can never
// be typed in again, because the check trims the stored text.
bool hasBlankEdges(const QString& password);

// Whether the typed text (as typed, not cleaned) opens the lock whose
// stored value is `stored`. A stored value in the hash form is checked
// against the hash; a malformed hash opens nothing; any other value was
// written by another tool and is compared as plain text. Both comparisons
// are byte for byte, in constant time for equal lengths.
bool passwordMatches(const QString& typed, const QString& stored);

} // namespace quillan::security
