#include "grid/checkeddevice.h"

#include <cerrno>

namespace fenpai {

CheckedDevice::CheckedDevice(QIODevice *target)
    : m_target(target)
{}

qint64 CheckedDevice::readData(char *, qint64)
{
    return -1;
}

qint64 CheckedDevice::writeData(const char *data, qint64 size)
{
    if (m_failed)
        return -1;
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 n = m_target->write(data + done, size - done);
        if (n <= 0) {
            m_failed = true;
            m_error = errno;
            setErrorString(m_target->errorString());
            return -1;
        }
        done += n;
    }
    return done;
}

} // namespace fenpai
