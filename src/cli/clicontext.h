#pragma once

#include "core/status.h"
#include "db/datadirectory.h"

#include <QString>

class QTextStream;

namespace fenpai {

class Database;

// What a command of the command line works with: the data directory and the two output
// streams. Commands print their results to out() and their messages to err().
class CliContext final
{
public:
    CliContext(const QString &dataDir, QTextStream &out, QTextStream &err,
               QTextStream *in = nullptr)
        : m_dataDirectory(dataDir)
        , m_out(out)
        , m_err(err)
        , m_in(in)
    {}

    QTextStream &out() { return m_out; }
    QTextStream &err() { return m_err; }
    // Standard input, when the command may read it; null in tests that give none.
    QTextStream *in() { return m_in; }
    const DataDirectory &dataDirectory() const { return m_dataDirectory; }

    // Opens the database; on failure prints the message and returns false.
    [[nodiscard]] bool openDatabase(Database &db);

    // Prints the status's message on err() and returns exit status 1.
    int fail(const Status &status);
    int fail(const QString &message);
    // Prints why the arguments cannot be used and returns exit status 2 (the usage follows).
    int badUsage(const QString &reason);
    int badUsage(const Status &refusal) { return badUsage(refusal.message()); }

private:
    DataDirectory m_dataDirectory;
    QTextStream &m_out;
    QTextStream &m_err;
    QTextStream *m_in;
};

} // namespace fenpai
