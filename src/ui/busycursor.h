// Shows the busy pointer for as long as it lives, so every path out of a file
// operation, errors included, restores the default pointer.
#pragma once

#include <QGuiApplication>

namespace lorimand {

class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace lorimand
