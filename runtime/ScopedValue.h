#pragma once

#include <utility>

namespace quorvane {

// Gives a variable a value for as long as it lives and then puts back the
// value it found, also when an error passes or the scope is left early:
//     TScopedValue switching(m_inDriveSwitch, true);
// Nested scopes each restore what they found, so an inner one never ends
// the state of an outer one.
template <class T>
class [[nodiscard]] TScopedValue {
public:
    TScopedValue(T& variable, T value) : m_variable(variable), m_saved(std::move(variable))
    {
        m_variable = std::move(value);
    }
    ~TScopedValue() { m_variable = std::move(m_saved); }
    TScopedValue(const TScopedValue&) = delete;
    TScopedValue& operator=(const TScopedValue&) = delete;

private:
    T& m_variable;
    T m_saved;
};

}  // namespace quorvane
