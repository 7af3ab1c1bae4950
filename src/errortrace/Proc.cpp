#include "errortrace/Proc.h"

#include "errortrace/modCatchwell.h"
#include "platform/host/Host.h"
#include "platform/vb/Constants.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace cw {

vb::Error currentError()
{
    try {
        throw;
    } catch (const vb::Error& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return vb::Error{7, vb::errorText(7), vb::ownSource(), {}, 0};
    } catch (const std::out_of_range&) {
        return vb::Error{9, vb::errorText(9), vb::ownSource(), {}, 0};
    } catch (...) {
        return vb::Error{51, vb::errorText(51), vb::ownSource(), {}, 0};
    }
}

Proc::Proc(QString module, QString procedure)
    : m_module(std::move(module))
    , m_procedure(std::move(procedure))
{
    modCatchwell::cwPUSH(m_module, m_procedure, QString());
}

Proc::~Proc()
{
    try {
        modCatchwell::cwPOP(m_module, m_procedure, QString());
    } catch (...) {
        // The pop never reports a failure.
    }
}

void Proc::trap(const vb::Error& error, const Filter& filter)
{
    vb::Err().set(error);
    if (filter && filter(error) == Verdict::Handled) {
        return;
    }
    modCatchwell::cwERROR(m_module, m_procedure);
}

LocalTrap::LocalTrap(QString prefix, QString title, std::initializer_list<long> passOver)
    : m_prefix(std::move(prefix))
    , m_title(std::move(title))
    , m_passOver(passOver)
{
}

void LocalTrap::report(const vb::Error& error)
{
    vb::Err().set(error);
    if (std::find(m_passOver.begin(), m_passOver.end(), error.number) != m_passOver.end()) {
        return;
    }
    host::MsgBox(m_prefix + QStringLiteral("\r\n") + QString::number(error.number)
                     + QStringLiteral(": \r\n") + error.description,
                 vb::vbCritical, m_title);
}

} // namespace cw
