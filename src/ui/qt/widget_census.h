// The census of the controls on the screen, for the real-window tests: with the environment
// variable HEATX_WIDGET_CENSUS_FDS=IN,OUT (two open file descriptors), every line read from IN is
// answered on OUT with one line of JSON: the visible top-level windows, each with its title and its
// visible controls as [role, name] pairs in the accessibility bus's terms. The tests compare it with
// the tree the bus shows. Without the variable nothing is installed.
#pragma once

namespace heatx::ui {

void InstallWidgetCensus();

}  // namespace heatx::ui
