#include "res/form/ButtonImages.h"

std::optional<ButtonPicture> ButtonPictureFor(int controlId) {
    switch (controlId) {
    case 1075:
        return ButtonPicture::Read;
    case 1072:
        return ButtonPicture::Add;
    case 1073:
        return ButtonPicture::Erase;
    case 1076:
        return ButtonPicture::Store;
    case 1074:
        return ButtonPicture::Change;
    }
    return std::nullopt;
}
