// Points the home folder, the settings folder and the temporary folder at a fresh scratch
// folder for as long as it lives, so a test binary run by hand (outside CTest) never reads or
// writes the user's own settings or temporary files.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <array>

class ScratchHome
{
public:
    ScratchHome()
    {
        for (std::size_t i = 0; i < kVars.size(); ++i) {
            m_saved[i] = qgetenv(kVars[i]);
            m_had[i] = qEnvironmentVariableIsSet(kVars[i]);
        }
        QDir(m_dir.path()).mkpath(QStringLiteral(".config"));
        QDir(m_dir.path()).mkpath(QStringLiteral("tmp"));
        QDir(m_dir.path()).mkpath(QStringLiteral(".local/share"));
        qputenv("HOME", m_dir.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/.config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/.local/share")).toLocal8Bit());
        qputenv("TMPDIR", tempDir().toLocal8Bit());
    }
    ~ScratchHome()
    {
        for (std::size_t i = 0; i < kVars.size(); ++i) {
            if (m_had[i]) {
                qputenv(kVars[i], m_saved[i]);
            } else {
                qunsetenv(kVars[i]);
            }
        }
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    QString path() const { return m_dir.path(); }
    /// The temporary folder the program sees meanwhile.
    QString tempDir() const { return m_dir.path() + QStringLiteral("/tmp"); }

private:
    static constexpr std::array<const char*, 4> kVars { "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
        "TMPDIR" };
    QTemporaryDir m_dir;
    std::array<QByteArray, kVars.size()> m_saved;
    std::array<bool, kVars.size()> m_had {};
};
