#include "dialogcore/card_search.h"

#include <new>

namespace orvanta {

bool WantsCardPoll(const CCardReader& reader) { return reader.StartupDriveCode() == kNoCardDriveCode; }

bool CardPutIn(CCardReader& reader) { return WantsCardPoll(reader) && reader.FindCardDrive() == 1; }

void RenewCardReader(CCardReader& reader) {
    // The reader cannot be copied or assigned: the old one ends and the new
    // one is made in its storage, of the same type.
    RawVolumeSystem& volumes = reader.Volumes();
    reader.~CCardReader();
    new (&reader) CCardReader(volumes);
}

}  // namespace orvanta
