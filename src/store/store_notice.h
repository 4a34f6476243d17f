#pragma once

#include <QString>
#include <functional>

// What the user must be told about the data file that is no failure: the
// action goes on, and the message, in French, waits for the windows to show
// it. Without a listener it goes to the program's error output.
namespace storenotice {

using Listener = std::function<void(const QString& message)>;

void setListener(Listener listener);
void tell(const QString& message);

}  // namespace storenotice
