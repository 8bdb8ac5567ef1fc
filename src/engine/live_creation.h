#pragma once

#include <cstdint>

#include "engine/live_ac.h"
#include "simlink/sim_results.h"

// A live aircraft's creation from its hand-over to the simulator until the simulator shows it. The simulator's range
// scans tell the engine where the ground lies under each aircraft and when it touches down, so a creation is handed
// over only for an aircraft within the range.
//
// A model may take minutes to load, or never: the two cannot be told apart when a creation is late. One the simulator
// has not shown within a minute is given up and the aircraft goes back to the buffer, keeping its livery and stand.
// Its model may never load: while the limit of live aircraft is reached or other traffic waits for its place or its
// callsign, it waits there where it flies now and takes no place from them, until it has waited as long as its next
// creation has to show (the simulator may only have lost the creation); otherwise it is created again at once with
// twice as long to show, up to four minutes. Should the object of a creation given up show after all, the model is
// slow, not missing: its aircraft takes the object where the limit gives a newcomer a place (a free one, or that of a
// markedly farther aircraft); otherwise the object is removed, and the aircraft is judged as any newcomer from then on.
// A creation taken out while still being created (for a nearer newcomer or a lowered Max live) is no model's fault: it
// waits for its object, which goes at once unless the limit admits the aircraft then, and once the limit admits its
// flight again it is an ordinary creation once more, with its time to show counted from then. Worker thread.
namespace cvl {

// Whether a newcomer must wait because the position it would be created at lies at the edge of the range or beyond,
// where the simulator's range scans would not find it. It then waits for its next position; the log says so once per
// aircraft.
bool gf_waitsAtRangeEdge(LiveAc& aircraft);
// Hands the first live creation of the backlog to the simulator's queue, dropping those of aircraft that now lie at
// the edge of the range or beyond. False when none was handed over.
bool gf_handOverLiveCreation();
// Gives the creation up once its time to show has passed (for an aircraft in state adding2sim, every tick); one taken
// out while being created waits on, within the range, while its flight is reported and no other waits for its
// callsign, and is taken back in where the limit admits its flight.
void gf_checkShowDeadline(LiveAc& aircraft);
// Whether the aircraft's last creation was given up and no object of it has shown since: its model may never load.
bool gf_modelMayNeverLoad(std::uint32_t hexid);
// The buffer step of an aircraft whose model may never load: true while it waits, its stream kept to where it flies
// now, for a free place or for the traffic that waits for its place or callsign (for a free place only until it has
// waited as long as its next creation has to show), and when it goes, its reports passed.
bool gf_waitsAfterGiveUp(LiveAc& aircraft);
// Keeps the stream of an aircraft waiting in the buffer to where it flies now.
void gf_dropPassedEntries(LiveAc& aircraft);
// The record that takes the object the simulator shows for a live creation: the aircraft of its hexid while that
// waits for an object, or, where the limit gives it a place as to a newcomer that holds its object, while it waits in
// the buffer after its creation was given up or was taken out while being created. Nullptr when no aircraft wants the
// object.
LiveAc* gf_takerOfCreatedObject(const SimResult& created);
// The taker is about to be shown with the object: its creation is done, and one waiting in the buffer takes its
// place at the limit.
void gf_takeCreatedObject(LiveAc& aircraft);
// Removes an object no aircraft wants, with the record of a creation whose removal was asked for. Its aircraft's model
// loads, if slowly.
void gf_removeUnwantedObject(const SimResult& created);
// The simulator will not show the creation the aircraft waits for: it waits in the buffer again, where it flies now,
// with its livery and stand, and its model is not blamed.
void gf_creationBackToWait(LiveAc& aircraft);
// Forgets the aircraft whose creations were given up (the reset of the traffic state).
void gf_clearSlowCreations();

}  // namespace cvl
