#include "Profile/SelectableOptions.h"

namespace tovrin {

void SelectableOptions::toggleOption(const QString& option) {
    if (isOptionSelected(option)) {
        mutableSelectedOptions_.removeAll(option);
    } else {
        mutableSelectedOptions_.append(option);
    }
}

QStringList SelectableOptions::selectedOptions() const {
    QStringList selected;
    for (const QString& option : allOptions_) {
        if (isOptionSelected(option)) selected.append(option);
    }
    return selected;
}

}  // namespace tovrin
