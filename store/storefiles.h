#ifndef STOREFILES_H
#define STOREFILES_H

#include <QDateTime>
#include <QLatin1String>
#include <QString>

// The names of the files a storage folder holds: the data file, the lock a running program
// keeps on the folder, and the folder of rescue copies. Backups and rescue copies share
// one name form, "cellora_" + local date-time + ".xml", so that the ordinary Import takes
// either.
namespace StoreFiles {

// A name of a literal's length, counted at compile time by every compiler (clang does not
// take strlen() for a constant).
template <int size> constexpr QLatin1String literal(const char (&text)[size])
{
    return QLatin1String(text, size - 1);
}

constexpr QLatin1String dataFile = literal("cellora.xml");
constexpr QLatin1String lockFile = literal("cellora.lock");
constexpr QLatin1String rescueFolder = literal("rescue");
// The list of the rescue copies the store made itself, oldest first.
constexpr QLatin1String rescueIndex = literal("copies.index");
// The list of the versions an undo took back and a new change then dropped, kept apart.
constexpr QLatin1String undoneIndex = literal("undone.index");
constexpr QLatin1String copyPrefix = literal("cellora_");
constexpr QLatin1String copySuffix = literal(".xml");
constexpr QLatin1String copyPattern = literal("cellora_*.xml");
constexpr QLatin1String stampPattern = literal("yyyy-MM-dd_HH-mm-ss");

// The stamp of `moment` in local time, one-second resolution.
inline QString stamp(const QDateTime &moment)
{
    return moment.toLocalTime().toString(stampPattern);
}

// "cellora_2024-03-01_10-15-00.xml" for that moment.
inline QString copyName(const QDateTime &moment)
{
    return copyPrefix + stamp(moment) + copySuffix;
}

} // namespace StoreFiles

#endif // STOREFILES_H
