#pragma once

// The standard dialogs (files, printing, message boxes, the text boxes'
// own menus) speak French: Qt's French catalogue, and the few texts it
// lacks, which the program supplies.
namespace frenchdialogs {

// Once, before the first window; later calls do nothing.
void install();

}  // namespace frenchdialogs
