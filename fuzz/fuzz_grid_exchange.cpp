// Fuzz target: the string grid's readers of outside input (text layout file
// and stream, CSV, binary cell stream). The first byte picks the reader; any
// other bytes either load or are refused with the grid's error, never more.

#include "grid/ExGrid.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_grid_exchange";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    static QTemporaryDir dir;
    (void)app;
    if (size < 1)
        return 0;
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    TExStringGrid grid;
    grid.SetMultilinecells((data[0] & 0x10) != 0);
    try {
        switch (data[0] % 4) {
        case 0: {
            QFile f(dir.filePath("in.txt"));
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                f.write(bytes);
            f.close();
            grid.LoadFromFile(dir.filePath("in.txt"));
            break;
        }
        case 1: {
            QBuffer b(&bytes);
            b.open(QIODevice::ReadOnly);
            grid.LoadFromStream(b);
            break;
        }
        case 2: {
            QBuffer b(&bytes);
            b.open(QIODevice::ReadOnly);
            grid.LoadFromCSVStream(b);
            break;
        }
        default: {
            QBuffer b(&bytes);
            b.open(QIODevice::ReadOnly);
            grid.LoadFromBinStream(b);
            break;
        }
        }
    } catch (const std::exception&) {
        // Refused input: a clear error is the expected outcome.
    }
    return 0;
}
