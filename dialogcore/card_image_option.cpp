#include "dialogcore/card_image_option.h"

namespace orvanta {

bool AddCardImageDrive(const std::string& image, std::vector<std::string>* driveArguments, std::string* error) {
    if (image.empty()) {
        *error = "--image needs the path of a card image";
        return false;
    }
    for (const std::string& argument : *driveArguments) {
        if (argument.size() >= 2 && (argument[0] == kCardImageDrive || argument[0] == kCardImageDrive + ('a' - 'A')) &&
            argument[1] == '=') {
            *error = "--image takes drive E:, which --drive " + argument + " names already";
            return false;
        }
    }
    driveArguments->push_back(std::string(1, kCardImageDrive) + "=" + image);
    return true;
}

std::string TitleWithCardImage(const std::string& caption, const std::string& image) {
    const std::size_t slash = image.find_last_of("/\\");
    return caption + " - " + (slash == std::string::npos ? image : image.substr(slash + 1));
}

}  // namespace orvanta
