#pragma once

#include <QString>
#include <QStringList>

namespace tovrin {

// Which options of an ordered list are chosen, for a multiple-choice list: the selection keeps the
// order of choosing, `selectedOptions` the list's order.
class SelectableOptions {
public:
    SelectableOptions(QStringList allOptions, const QStringList& selectedOptions)
        : allOptions_(std::move(allOptions)), mutableSelectedOptions_(selectedOptions) {}

    const QStringList& allOptions() const { return allOptions_; }
    void setAllOptions(QStringList options) { allOptions_ = std::move(options); }
    const QStringList& mutableSelectedOptions() const { return mutableSelectedOptions_; }
    void setMutableSelectedOptions(QStringList selection) { mutableSelectedOptions_ = std::move(selection); }

    bool isOptionSelected(const QString& option) const { return mutableSelectedOptions_.contains(option); }
    // Removes every copy of a selected option; appends any other, even one outside the list.
    void toggleOption(const QString& option);
    // The options of the list that are selected, in the list's order; a selected text outside the
    // list never appears.
    QStringList selectedOptions() const;

private:
    QStringList allOptions_;
    QStringList mutableSelectedOptions_;
};

}  // namespace tovrin
