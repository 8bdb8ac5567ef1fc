#pragma once

#include "engine/live_ac.h"
#include "simlink/sim_results.h"

// A live aircraft's creation, from the request the engine builds until the simulator shows the aircraft. Its kinds,
// what marks each, and what moves it on (a creation in state adding2sim with no object yet is "being created"):
//
// | kind                            | marked by                                          | moved on by                |
// |---------------------------------|----------------------------------------------------|----------------------------|
// | waiting in the backlog          | being created, no handedOverAt                     | gf_handOverLiveCreation    |
// | handed over                     | being created, handedOverAt                        | gf_checkShowDeadline,      |
// |                                 |                                                    | gf_takeCreatedObject       |
// | shown                           | an objectId (adding2sim while activated, then      | the activation             |
// |                                 | active)                                            |                            |
// | given up                        | back in the buffer, gf_givenUpNotShown             | gf_waitsAfterGiveUp, then  |
// |                                 |                                                    | the buffer step            |
// | taken out while being created   | handed over, gf_holdsNoPlace, its model not in     | gf_checkShowDeadline       |
// |                                 | doubt                                              |                            |
// | on trial                        | handed over, gf_holdsNoPlace, gf_modelMayNeverLoad | gf_checkShowDeadline       |
// | taken back in                   | handed over again, handedOverAt from then          | as handed over             |
// | refused for room                | back in the buffer, not booked; the simulator full | simulator_room, then the   |
// |                                 | (gf_simulatorFull)                                 | buffer step                |
// | kept out by the limit           | a newcomer's record gone (its next report asks     | the buffer step            |
// |                                 | again); a flight given up waits in the buffer      |                            |
//
// The simulator's range scans tell the engine where the ground lies under each aircraft and when it touches down, so a
// creation is handed over only for an aircraft within the range, and where its flight is at the hand-over. One the
// simulator has not shown within its time (a minute at first) is given up, and its flight goes back to the buffer
// with its livery and stand; who may then take a place is the live limit's rule. Worker thread.
namespace cvl {

// In state adding2sim with no object yet, and not to be erased.
bool gf_beingCreated(const LiveAc& aircraft);
// Being created, with no place at the live limit: taken out while being created, or on trial.
bool gf_holdsNoPlace(const LiveAc& aircraft);
// Being created, and its removal was asked for: its object goes as soon as it shows, with the record.
bool gf_removalAskedFor(const LiveAc& aircraft);

// Whether a newcomer must wait because the position it would be created at lies at the edge of the range or beyond,
// where the simulator's range scans would not find it. It then waits for its next position; the log says so once per
// aircraft.
bool gf_waitsAtRangeEdge(LiveAc& aircraft);
// The spawned aircraft's creation joins the backlog, where it is created now.
void gf_queueLiveCreation(const LiveAc& aircraft);
// Hands the first live creation of the backlog to the simulator's queue, brought to where its flight is now: one whose
// flight has no later report goes with its record, one now at the edge of the range or beyond is dropped. False when
// none was handed over.
bool gf_handOverLiveCreation();
// Every tick of an aircraft in state adding2sim: gives a creation up once its time to show has passed; one taken out
// while being created waits on, within the range, while its flight is reported and no other waits for its callsign,
// and is taken back in where the limit admits its flight; one on trial has the first minute to show.
void gf_checkShowDeadline(LiveAc& aircraft);
// The aircraft that takes the object the simulator shows for a live creation, the creation done: its own creation's
// aircraft, or, where the limit gives it a place as to a newcomer that holds its object, one whose creation holds no
// place or one waiting in the buffer after a give-up. Nullptr when no aircraft wants the object.
LiveAc* gf_takeCreatedObject(const SimResult& created);
// Removes an object no aircraft wants, with the record of a creation that holds no place or whose removal was asked
// for. Its aircraft's model loads, if slowly.
void gf_removeUnwantedObject(const SimResult& created);
// The simulator will not show the creation the aircraft waits for (it has no room): the aircraft waits in the buffer
// again, where it flies now, with its livery and stand, and its model is not blamed.
void gf_creationBackToWait(LiveAc& aircraft);
// The buffer step of a flight whose model may never load: true while it waits, its stream kept to where it flies now,
// between its looks once a second, while the live limit keeps it out at the look of the second, for another flight
// under its callsign to be created first, or when its reports have passed (it goes). False when the live limit is to
// judge it.
bool gf_waitsAfterGiveUp(LiveAc& aircraft);
// Keeps the stream of an aircraft waiting in the buffer to where it flies now.
void gf_dropPassedEntries(LiveAc& aircraft);

}  // namespace cvl
