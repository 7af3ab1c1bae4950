#include "cipher/basBlfArrays.h"

#include "cipher/basBlowfish.h"
#include "errortrace/Proc.h"

using namespace Qt::StringLiterals;

namespace basBlfArrays {

namespace {
const QString kModule = u"basBlfArrays"_s;
} // namespace

void blf_LoadArrays()
{
    cw::Proc proc(kModule, u"Function blf_LoadArrays"_s);
    proc.run([&] {
        basBlowfish::blf_PArray = kInitialP;
        basBlowfish::blf_SBoxes = kInitialS;
    });
}

} // namespace basBlfArrays
