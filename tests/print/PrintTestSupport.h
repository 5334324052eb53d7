#pragma once
// Print tests: running a program (mv53, poppler's tools, lpadmin), reading a PDF back as text,
// and records that fill every page of the report.

#include "TestRecords.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace mv53::test {

struct ProcResult {
    int status = -1;   // -1: did not start, crashed or timed out
    QString out;
    QString err;
};

// Runs program with args, env ("NAME=value") added to this process's environment.
inline ProcResult Exec(const QString& program, const QStringList& args, const QStringList& env = {},
                       int timeoutMs = 60000)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& kv : env)
        e.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(e);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {-1, {}, QStringLiteral("timed out")};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// Words separated by single blanks, as a program's arguments.
inline QStringList Args(const char* words) { return QString::fromUtf8(words).split(QLatin1Char(' ')); }

// Records with every channel in use and a few distinctive values.
inline TMVmem FullRecords()
{
    return ClearedRecords([](TMVmem& m) {
        for (int k = 1; k <= 500; ++k) {
            TChannel& ch = m.Channels().Items(k - 1);
            ch.SetStatus(mv53::kChannelUsed);
            ch.SetTag("CH" + std::to_string(k));
            ch.RxFreq().SetIntPart(2 + k % 28);
            ch.RxFreq().SetFraction(k);
            ch.RxFreq().SetDigits(3);
            ch.SetTxOff(k % 7 == 0);
        }
        m.Misc().SetVoxGain(45);
        m.Sys().SetTot(3);
    });
}

inline bool HavePoppler() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

// The text of a PDF laid out as on the page; fixed pitch keeps the columns of the text form.
inline QString PdfText(const QString& pdf, bool fixedPitch = false)
{
    QStringList args = fixedPitch ? Args("-layout -fixed 6") : Args("-layout");
    return Exec(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-")).out;
}

}  // namespace mv53::test
