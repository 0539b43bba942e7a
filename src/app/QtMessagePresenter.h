// Shows ShowMessage's messages as modal Qt message boxes.
#pragma once

void InstallQtMessagePresenter();
