#pragma once

#include "core/status.h"

#include <QtGlobal>

#include <utility>
#include <variant>

namespace fenpai {

// Either a value or the Status that explains why there is none.
template <typename T> class [[nodiscard]] Result final
{
public:
    Result(T value)
        : m_data(std::move(value))
    {}
    // A failure. An ok status has no value to go with it: that is a fault of the caller, caught
    // in debug builds; elsewhere it becomes an error, so it can never pass for a success.
    Result(Status status)
        : m_data(std::move(status))
    {
        Q_ASSERT_X(!std::get<Status>(m_data).isOk(), "Result", "an ok Status without a value");
        if (std::get<Status>(m_data).isOk())
            m_data =
                Status::error(Status::Kind::Other, QStringLiteral("内部错误：操作没有给出结果。"));
    }

    bool isOk() const { return std::holds_alternative<T>(m_data); }
    explicit operator bool() const { return isOk(); }

    T &value() { return std::get<T>(m_data); }
    const T &value() const { return std::get<T>(m_data); }
    T &operator*() { return value(); }
    const T &operator*() const { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }

    Status status() const { return isOk() ? Status::ok() : std::get<Status>(m_data); }

private:
    std::variant<T, Status> m_data;
};

} // namespace fenpai
