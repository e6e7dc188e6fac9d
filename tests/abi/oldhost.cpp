// A host built against the module's headers of an earlier release (extracted from the
// history at configure time) and run against this build's library: the window's layout
// must be the one the host allocates, and the store must still open and save.

#include "window/celloragui.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const char store[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE Cellora>\n"
                     "<Cellora>\n    <Battery>\n        <Name>Old Host</Name>\n"
                     "        <Capacity>2200</Capacity>\n        <Charged>0</Charged>\n"
                     "    </Battery>\n    <Model>\n        <Name>Heli</Name>\n"
                     "        <Battery>Old Host</Battery>\n    </Model>\n</Cellora>\n";
constexpr unsigned char canary = 0xA5;
constexpr std::size_t margin = 256;

int fail(const char *why)
{
    std::fprintf(stderr, "old host: %s\n", why);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QFile file(QDir(folder.path()).filePath(QStringLiteral("cellora.xml")));
    if (!file.open(QIODevice::ReadWrite) || file.write(store) != qint64(sizeof store - 1))
        return fail("cannot write the store");
    file.flush();

    // The window in exactly the room the old header gives it, with a marked margin
    // behind: a library that writes beyond that room changes the mark.
    alignas(CelloraGui) static unsigned char room[sizeof(CelloraGui) + margin];
    std::memset(room + sizeof(CelloraGui), canary, margin);
    auto *window = new (room) CelloraGui;
    window->changeStoragePath(folder.path());
    window->show();
    QApplication::processEvents();
    auto *tank = window->findChild<QToolButton *>(QStringLiteral("pushButton"));
    if (!tank)
        return fail("no battery card");
    tank->click();
    QApplication::processEvents();
    file.close(); // the store replaces the file: read it anew
    const bool saved
        = file.open(QIODevice::ReadOnly) && file.readAll().contains("<Charged>1</Charged>");
    window->~CelloraGui();
    for (std::size_t i = sizeof(CelloraGui); i < sizeof room; ++i)
        if (room[i] != canary)
            return fail("the library wrote beyond the window's size");
    return saved ? 0 : fail("the click was not saved");
}
