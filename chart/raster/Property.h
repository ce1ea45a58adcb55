#pragma once
// Published settings: a getter Name() and a setter SetName(value) that acts only on a real
// change and then calls the object's Changed(), which reaches the chart's Invalidate.

#define PLOT_PROPERTY(Type, Name, Default)                                                         \
  public:                                                                                          \
    const Type& Name() const {                                                                     \
        return Name##Value;                                                                        \
    }                                                                                              \
    void Set##Name(const Type& value) {                                                            \
        if (Name##Value == value)                                                                  \
            return;                                                                                \
        Name##Value = value;                                                                       \
        Changed();                                                                                 \
    }                                                                                              \
                                                                                                   \
  private:                                                                                         \
    Type Name##Value = Default;                                                                    \
                                                                                                   \
  public:
