#pragma once
// Presenting a CPicture on screen: its rows go into a QImage laid out like a
// device bitmap (24-bit B, G, R, rows padded to 4 bytes, top-down), which a
// widget then paints.

class CPicture;
class QImage;

namespace gui {

/// Gives the image the picture's size in that layout when it has another,
/// then writes rows first .. first + count - 1.
void PresentPictureRows(const CPicture& picture, QImage& bitmap, int first, int count);
void PresentPicture(const CPicture& picture, QImage& bitmap);

} // namespace gui
