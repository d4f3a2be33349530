#pragma once
// Which picture each image button of the Phonebook Manager tab shows instead of its label.

#include <optional>

enum class ButtonPicture { Read, Add, Erase, Store, Change };

inline constexpr int kButtonImageSize = 32;

// The picture of an image button; none for other controls.
std::optional<ButtonPicture> ButtonPictureFor(int controlId);
