#pragma once
// The About box the start-up shows before anything else. This minimal box
// (caption and OK) stands until the full About box takes its place behind
// the same function.
class QWidget;

namespace bladeway {

// Shows the box modally; returns when the user has closed it.
void ShowStartupAbout(QWidget* parent);

}  // namespace bladeway
