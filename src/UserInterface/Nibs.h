#pragma once

#include <QString>

#include <vector>

class QObject;

namespace tovrin::ui {
class View;
}

namespace tovrin {

// The kit's nibs are builders in code, found by the nib's name. A builder makes the nib's
// top-level views, without a parent; an owner, when one is given, gets its outlets from the builder.
using NibBuilder = std::vector<ui::View*> (*)(QObject* owner);

// The nib's top-level views. An unknown name is a programming error, as a missing nib is on the phone.
std::vector<ui::View*> loadNibNamed(const QString& name, QObject* owner = nullptr);

}  // namespace tovrin
