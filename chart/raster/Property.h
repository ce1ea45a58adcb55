#pragma once
// Published settings: a getter Name() and a setter SetName(value). The setter acts only on a
// real change, and then calls its owner's change handler, which reaches the chart's
// Invalidate:
//
//     void SetName(int value) {
//         if (ChangeValue(NameValue, value))
//             Changed();
//     }

// Stores `value` in `field` when it differs from what the field holds; returns whether it did.
template <class T> [[nodiscard]] bool ChangeValue(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}
