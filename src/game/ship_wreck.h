#pragma once
// The ship seen from outside at the point of its loss: shared by the ship's destruction
// and the play-field enforcer.

namespace quorvel {

// Shows the intact ship at ShipPos with the camera's axes and lays out its wreck there
// (burning parts hidden, chunks shown); marks the wreck of this loss as placed.
void PlaceShipWreck();

}  // namespace quorvel
