#pragma once

namespace tovrin {

// Something that may show a separator line.
class VisuallySeparable {
public:
    virtual ~VisuallySeparable() = default;
    virtual bool showSeparator() const = 0;
    virtual void setShowSeparator(bool show) = 0;
};

}  // namespace tovrin
