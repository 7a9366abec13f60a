#pragma once

#include <QIODevice>

namespace fenpai {

// Writes through to another device and remembers whether every byte got there. A device may
// take only part of a write (a file system that fills up does), and callers such as QTextStream
// and QPdfWriter do not all look; this one writes the rest or fails, and keeps the system's
// reason, so that the output can be abandoned instead of committed cut off.
class CheckedDevice final : public QIODevice
{
public:
    explicit CheckedDevice(QIODevice *target);

    bool isSequential() const override { return true; }
    // True once a write failed or came up short.
    bool failed() const { return m_failed; }
    // The errno value of the first failure, 0 when the system gave none.
    int failure() const { return m_error; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    QIODevice *m_target;
    bool m_failed = false;
    int m_error = 0;
};

} // namespace fenpai
