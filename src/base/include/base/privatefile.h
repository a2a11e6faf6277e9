#pragma once

#include <QString>

namespace qb {

// The user's own data (the store, the preferences) is readable by its owner only, whatever the
// umask. Each returns an error text, or an empty string on success.

// Creates `folder` with mode 0700 (its missing parents as the umask says), or takes the group
// and other permissions from an existing one. For the app's own folders only.
QString makePrivateFolder(const QString &folder);
// Creates `path` empty with mode 0600 in an existing folder, never replacing a file that
// appears meanwhile, or takes the group and other permissions from an existing file. Sets
// `created` to whether this call made the file.
QString makePrivateFile(const QString &path, bool *created = nullptr);

} // namespace qb
