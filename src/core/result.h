#pragma once

#include "core/status.h"

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
    Result(Status status)
        : m_data(std::move(status))
    {}

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
