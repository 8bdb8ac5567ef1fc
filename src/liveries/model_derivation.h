#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The ICAO type designator of the model an aircraft.cfg belongs to: from its icao_type_designator line, else from the
// simulator stock aircraft its base_container line points to. Codes the aircraft database does not know are corrected
// through its type fixes, or reported.
namespace cvl {

// Folder name of a simulator stock aircraft -> its type designator.
using StockModelTable = std::unordered_map<std::string, std::string>;
StockModelTable lf_initStockModelTypes();
extern const StockModelTable StockModelTypes;

// The model of the file; empty when it has none (the reader then skips the file).
std::string lf_getModelOfCfg(const std::filesystem::path& path, const std::vector<std::string>& lines);

// The model from the file's base_container line; empty when it has none.
std::string lf_modelFixes(const std::filesystem::path& path, const std::vector<std::string>& lines);

// The stock model type of a base_container line, upper-cased; empty when the line is none or names no stock model.
std::string lf_matchBaseContainer(std::string_view line);

// A known code stays, a code the type fixes correct is corrected (and reported as a fix); any other is reported and
// gives an empty model.
std::string lf_resolveModelCode(const std::string& code, const std::filesystem::path& path);

// Reports a model code the aircraft database does not know.
void lf_reportInvalidModel(std::string_view code, const std::filesystem::path& path);

}  // namespace cvl
