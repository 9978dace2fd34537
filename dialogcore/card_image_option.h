// `orvanta-client --image FILE`: a saved card image (orvanta-card save) taken
// as the card in drive E:, as `--drive E=FILE` takes it, and the window's
// title naming it. Qt-free, for both windows' command lines: the window adds
// the drive argument before it builds its drive map and shows the title; the
// status line names the image already, as the mapped path of the card's drive.
#pragma once

#include <string>
#include <vector>

namespace orvanta {

// The drive a card image is taken as.
constexpr char kCardImageDrive = 'E';

// Appends "E=FILE" to the window's --drive arguments. False with a message
// when FILE is empty or a --drive argument names E: already.
bool AddCardImageDrive(const std::string& image, std::vector<std::string>* driveArguments, std::string* error);

// "CAPTION - NAME": the window's caption and the image's file name (its
// folder left out; the status line shows the whole path).
std::string TitleWithCardImage(const std::string& caption, const std::string& image);

}  // namespace orvanta
