#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "simemu/sim_emulator.h"

// The commands simemu reads on its standard input, one a line:
//   teleport LAT LON [ALT]   moves the user aircraft (degrees, feet); it stays on the ground or in the air, with its
//                            heading and speed
//   fly LAT LON ALT HEADING SPEED ground|air
//                            puts the user aircraft at a point of its flight: altitude in feet, true heading in
//                            degrees, ground speed in knots, and standing or rolling on the ground, or in the air
//   newflight                loads a new flight (the FlightLoaded event)
//   pause, resume            the Sim event 0, 1
//   quit                     QUIT to every client, and simemu ends
namespace cvl::simemu {

struct TeleportCommand {
  double latitude = 0;
  double longitude = 0;
  std::optional<double> altitudeFt;
};
struct FlyCommand {
  FlightPoint point;
};
struct NewFlightCommand {};
struct PauseCommand {};
struct ResumeCommand {};
struct QuitCommand {};

using Command = std::variant<TeleportCommand, FlyCommand, NewFlightCommand, PauseCommand, ResumeCommand, QuitCommand>;

// A command, or the reason the line is not one. A blank line is neither: nullopt command and an empty reason.
struct ParsedCommand {
  std::optional<Command> command;
  std::string fault;
};

ParsedCommand parseCommand(std::string_view line);

struct CommandOutcome {
  bool quit = false;
  std::string refusal;  // why the emulator did not carry it out; empty when it did
};

CommandOutcome runCommand(const Command& command, SimEmulator& emulator);

}  // namespace cvl::simemu
