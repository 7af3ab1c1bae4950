// The trace guard every procedure opens first, and the error-handling idioms built on it.
#pragma once

#include "platform/vb/Error.h"

#include <QString>

#include <exception>
#include <functional>
#include <initializer_list>
#include <vector>

namespace cw {

/// The error in flight inside a catch block, as a vb::Error: a vb::Error as thrown,
/// std::bad_alloc as 7, an out-of-range access as 9, anything else as 51 "Internal error".
vb::Error currentError();

/// Pushes the procedure onto the trace on construction and pops it on every way out.
class Proc
{
public:
    enum class Verdict { ToTrap, Handled };
    using Filter = std::function<Verdict(const vb::Error&)>;

    Proc(QString module, QString procedure);
    ~Proc();
    Proc(const Proc&) = delete;
    Proc& operator=(const Proc&) = delete;

    /// "On Error GoTo handler": runs the body; an error ends it, sets vb::Err(), and unless
    /// the filter handles it, goes to the trap (cwERROR) while the procedure is still pushed.
    /// Returns true when the body ran to its end.
    template <class Body>
    bool run(Body&& body, const Filter& filter = {})
    {
        try {
            body();
            return true;
        } catch (...) {
            trap(currentError(), filter);
            return false;
        }
    }

    /// Hands an error to the trap exactly as run() does.
    void trap(const vb::Error& error, const Filter& filter = {});

    const QString& module() const { return m_module; }
    const QString& procedure() const { return m_procedure; }

private:
    QString m_module;
    QString m_procedure;
};

/// "On Error Resume Next": each step runs; a failing step only sets vb::Err().
class ResumeNext
{
public:
    template <class Step>
    void operator()(Step&& step)
    {
        try {
            step();
        } catch (...) {
            vb::Err().set(currentError());
        }
    }

    /// A condition under Resume Next: a test that fails counts as true, so the steps it
    /// guards run.
    template <class Test>
    bool test(Test&& condition)
    {
        try {
            return condition();
        } catch (...) {
            vb::Err().set(currentError());
            return true;
        }
    }
};

/// A handler that treats its own errors and resumes with the next step: errors on the
/// pass-over list are ignored; any other shows prefix CRLF number ": " CRLF description in a
/// stop-icon box with the given title.
class LocalTrap
{
public:
    LocalTrap(QString prefix, QString title, std::initializer_list<long> passOver);

    template <class Step>
    void operator()(Step&& step)
    {
        try {
            step();
        } catch (...) {
            report(currentError());
        }
    }

    template <class Test>
    bool test(Test&& condition)
    {
        try {
            return condition();
        } catch (...) {
            report(currentError());
            return true;
        }
    }

    void report(const vb::Error& error);

private:
    QString m_prefix;
    QString m_title;
    std::vector<long> m_passOver;
};

} // namespace cw
