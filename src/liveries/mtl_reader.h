#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "liveries/aircraft_cfg.h"
#include "liveries/livery_data.h"

// The reader of the IVAO model packages: one model per folder, named IVAO_ and the model, whose liveries name their
// airline in the title instead of an icao_airline line. IVAO liveries are never cargo. Runs on a scan task thread.
namespace cvl {

LiveryList lf_searchLiveriesinIVAOFile(std::uint32_t folderPriority, const std::filesystem::path& path);

// The model of an aircraft.cfg at ...\IVAO_MTL (or ivao_x-csl)\SimObjects\Airplanes\IVAO_<model>\aircraft.cfg,
// resolved like any model code; empty (and reported) when the path has no model or the code is unknown.
std::string lf_modelFromIvaoPath(const std::filesystem::path& path);

LiveryList lf_procesIVAOFltSimSections(std::uint32_t folderPriority, const CfgLines& lines, const std::string& model,
                                       const std::filesystem::path& path, const std::filesystem::path& folder);

// The section's livery; an empty record (empty title) when it gives none.
LiveryData lf_procesIVAOFltSimSection(std::uint32_t folderPriority, CfgLines section, const std::string& model,
                                      const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace cvl
