// Prints the cost of keying the cipher and of a verifier round trip, with the trace on and off.
#include "cipher/StringCipher.h"
#include "errortrace/modCatchwell.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

void measure(const char* label)
{
    constexpr int kKeys = 50;
    constexpr int kTexts = 2000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kKeys; ++i) {
        Module1::SetKey(QStringLiteral("master-%1").arg(i));
    }
    const double keyMs = double(timer.nsecsElapsed()) / 1e6 / kKeys;
    timer.restart();
    for (int i = 0; i < kTexts; ++i) {
        Module1::Decrypt(Module1::Encrypt(QStringLiteral("password-%1").arg(i)));
    }
    const double textUs = double(timer.nsecsElapsed()) / 1e3 / kTexts;
    std::printf("%-10s SetKey %8.2f ms   Encrypt+Decrypt (16 chars) %8.2f us\n", label, keyMs,
                textUs);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    measure("trace on");
    modCatchwell::cwOPTION(22, 0);
    measure("trace off");
    return 0;
}
