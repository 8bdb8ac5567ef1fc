#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <utility>

#include "engine/ac_category.h"
#include "foundation/version.h"

// The program's fixed names and values. Relative paths are relative to the current folder, which the start-up requires
// to be the program's own folder; only the settings folder lies under the user's roaming application-data folder.
//
// The constants are inline variables defined here, in the order in which they depend on each other: every translation
// unit that includes this header initialises them (once, guarded) before its own globals, so a static initialiser
// elsewhere may read them safely. What depends on the environment (the application-data folder and the paths inside
// it) is computed on use instead, never before main, so tests can point it at a temporary folder.
namespace cvl {

inline const std::string programName{"Corvalen"};

// Reference data.
inline const std::filesystem::path inputFolder{"input"};
inline const std::filesystem::path dbaseEncName{"dbase.enc"};
inline const std::filesystem::path dbaseEncPath{inputFolder / "dbase.enc"};
inline const std::filesystem::path dbaseXmlPath{inputFolder / "dbase.xml"};
inline const std::filesystem::path airportsEncName{"airports.enc"};
inline const std::filesystem::path airportsEncPath{inputFolder / "airports.enc"};
inline const std::filesystem::path airportsXmlPath{inputFolder / "airports.xml"};
inline const std::filesystem::path aigRegcodesEncName{"AIG-regcodes.enc"};
inline const std::filesystem::path aigRegcodesEncPath{inputFolder / "AIG-regcodes.enc"};
inline const std::filesystem::path aigRegcodesXmlPath{inputFolder / "AIG-regcodes.xml"};
inline const std::filesystem::path myRegcodesFolder{inputFolder / "my_regcodes"};
inline const std::filesystem::path oldAirportsMsfsPath{inputFolder / "airports_msfs.xml"};
inline const std::filesystem::path oldAirportsMsfsNamesPath{inputFolder / "airports_msfs_names.xml"};
inline const std::filesystem::path newVersionFolder{"new_version"};
inline const std::filesystem::path installerFileName{"install_new_version.exe"};
inline const std::filesystem::path releaseNotesFileName{"ReleaseNotes.pdf"};

// Liveries output and reports.
inline const std::filesystem::path outputFolder{"output"};
inline const std::filesystem::path outputInfoFolder{outputFolder / "info"};
inline const std::filesystem::path outputErrorsFolder{outputFolder / "errors"};
inline const std::filesystem::path scannedLiveriesPath{outputFolder / "LiveriesScanned.xml"};

// Airport files of static parking and of the add-on scan.
inline const std::filesystem::path airportsFolder{"airports"};
inline const std::filesystem::path mySimAddonFolder{airportsFolder / "my_simaddon"};
inline const std::filesystem::path myThirdPartyFolder{airportsFolder / "my_thirdparty"};
inline const std::filesystem::path learnedFolder{airportsFolder / "learned"};
inline const std::filesystem::path learnedStockFolder{learnedFolder / "stock"};
inline const std::filesystem::path learnedSimaddonFolder{learnedFolder / "simaddon"};
inline const std::filesystem::path learnedThirdpartyFolder{learnedFolder / "thirdparty"};
inline const std::filesystem::path myParkAirportsPath{airportsFolder / "my_park_airports.txt"};
inline const std::filesystem::path tbloFolder{"tblo"};
inline const std::filesystem::path tbloZipPath{"tblo.zip"};

// Names inside a simulator installation.
inline const std::filesystem::path communityFolderName{"Community"};
inline const std::filesystem::path officialFolderName{"Official"};
inline const std::filesystem::path official2024FolderName{"Official2024"};
inline const std::filesystem::path fsBaseName{"fs-base"};

// Application shell and settings.
inline const std::filesystem::path docsFolder{"docs"};
inline const std::filesystem::path insideSystemsFolderName{"InsideSystems"};

// The roaming application-data folder / "Corvalen"; the relative "Corvalen" when the user's folder is unknown.
std::filesystem::path appDataFolder();
// appDataFolder() / "parameters.xml".
std::filesystem::path parametersPath();
// parametersPath() as UTF-8 text (a path's native form on this platform); never throws.
std::string parametersPathUtf8();

// The folder of the flight-plan files: empty until the start-up sets it to appDataFolder() / "orig_dest".
inline std::filesystem::path flightPlanFolder;

// The program's own version, 11.10.3 (a constant: nothing runs to build it).
inline constexpr VersionData programVersion{11, 10, 3};

// Texts.
inline const std::string emptyString;
inline const std::string nameAttribute{"name"};
inline const std::string valueAttribute{"value"};
inline const std::string parametersElement{"parameters"};
inline const std::string specialMarker{"#"};
inline const std::string wrongTypeAttribute{"wro"};
inline const std::string correctTypeAttribute{"cor"};
inline const std::string registrationSeparator{"-"};
inline const std::string blankText{" "};
inline const std::string unknownText{"?"};
inline const std::string lineFeed{"\n"};
inline const std::string slashText{"/"};
inline const std::string pluralEnding{"s"};
inline const std::string generationMark{"0"};
inline const std::string whitespaceCharacters{" \t\n\r"};

// Parameter names inside airport files.
inline const std::string qfRealKey{"Qf_real"};
inline const std::string qfSoftKey{"Qf_soft"};
inline const std::string manufacturerKey{"manufacturer"};
inline const std::string creatorKey{"creator"};
inline const std::string altitudeKey{"altitude"};
inline const std::string airportNameKey{"airport_name"};
inline const std::string publisherKey{"publisher"};
inline const std::string handmadeKey{"handmade"};
inline const std::string numParkposKey{"num_parkpos"};
inline const std::string rtTrafficWeekKey{"RT_traffic_week"};

// Keys of settings that airport files carry as well (equal to the keys of the settings of the same name).
inline const std::string rangeKey{"RANGE"};
inline const std::string autoRangeKey{"AUTO_RANGE"};
inline const std::string initialLoadOnlyKey{"INITIAL_LOAD_ONLY"};
inline const std::string parkSoftKey{"PARK_SOFT"};
inline const std::string parkingPercentageKey{"parking_percentage"};
inline const std::string maxFitKey{"MAX_FIT"};
inline const std::string weekKey{"WEEK"};
inline const std::string maxLiveSelKey{"MAX_LIVE_SEL"};

// Widths of the star banners around the settings in the log: the title's length and the rest of 80.
inline constexpr std::size_t parametersTextLength = 10;
inline constexpr std::size_t parametersBannerWidth = 80 - parametersTextLength;

// Run-time texts of the simulator link, empty at start.
inline std::string userAcTitle;
inline std::string userStandName;

// Per-category motion tables: an entry for each of the six categories; at() throws for any other value.
using CategoryIntTable = std::unordered_map<AcCategory, std::int32_t>;
using CategoryRealTable = std::unordered_map<AcCategory, double>;

CategoryIntTable gf_makeCategoryTable(std::initializer_list<std::pair<AcCategory, std::int32_t>> rows);

// Ticks (10 ms each) of the landing flare, of the settling after touchdown, of the rotation and of the climb-out.
inline const CategoryIntTable categoryFlareTicks = gf_makeCategoryTable({{AcCategory::Light, 250},
                                                                         {AcCategory::Buzjets, 300},
                                                                         {AcCategory::Large, 400},
                                                                         {AcCategory::Heavy, 450},
                                                                         {AcCategory::HighPerf, 150},
                                                                         {AcCategory::Rotorcraft, 100}});
inline const CategoryIntTable categoryTouchdownTicks = gf_makeCategoryTable({{AcCategory::Light, 250},
                                                                             {AcCategory::Buzjets, 300},
                                                                             {AcCategory::Large, 350},
                                                                             {AcCategory::Heavy, 450},
                                                                             {AcCategory::HighPerf, 150},
                                                                             {AcCategory::Rotorcraft, 100}});
inline const CategoryIntTable categoryRotationTicks = gf_makeCategoryTable({{AcCategory::Light, 100},
                                                                            {AcCategory::Buzjets, 200},
                                                                            {AcCategory::Large, 200},
                                                                            {AcCategory::Heavy, 250},
                                                                            {AcCategory::HighPerf, 100},
                                                                            {AcCategory::Rotorcraft, 100}});
inline const CategoryIntTable categoryClimbPitchTicks = gf_makeCategoryTable({{AcCategory::Light, 200},
                                                                              {AcCategory::Buzjets, 250},
                                                                              {AcCategory::Large, 300},
                                                                              {AcCategory::Heavy, 400},
                                                                              {AcCategory::HighPerf, 200},
                                                                              {AcCategory::Rotorcraft, 100}});
// Pitch angles in degrees (negative raises the nose), varied per aircraft by 2.5 % and 5 %.
inline const CategoryRealTable categoryRotationPitch{{AcCategory::Light, -9.0},    {AcCategory::Buzjets, -8.0},
                                                     {AcCategory::Large, -6.0},    {AcCategory::Heavy, -5.0},
                                                     {AcCategory::HighPerf, -6.0}, {AcCategory::Rotorcraft, -20.0}};
inline const CategoryRealTable categoryClimbPitch{{AcCategory::Light, -15.0},    {AcCategory::Buzjets, -18.0},
                                                  {AcCategory::Large, -16.5},    {AcCategory::Heavy, -12.5},
                                                  {AcCategory::HighPerf, -20.0}, {AcCategory::Rotorcraft, -30.0}};
// Heading change per tick on ground curves, in radians (0.15, 0.1, 0.07, 0.05, 0.1 and 0.2 degrees).
inline const CategoryRealTable categoryTurnStep{
    {AcCategory::Light, 0.002617993877991494},     {AcCategory::Buzjets, 0.0017453292519943294},
    {AcCategory::Large, 0.0012217304763960306},    {AcCategory::Heavy, 0.0008726646259971647},
    {AcCategory::HighPerf, 0.0017453292519943294}, {AcCategory::Rotorcraft, 0.0034906585039886587}};

}  // namespace cvl
