#pragma once

#include <pugixml.hpp>

#include "parking/quality_factors.h"
#include "refdata/airports_database.h"

// The eight static-parking settings that a park airport's files replace for as long as it is the park airport:
// MAX_LIVE_SEL, MAX_FIT, parking_percentage, AUTO_RANGE, RANGE, INITIAL_LOAD_ONLY, PARK_SOFT and WEEK. The airport's
// values are shown but not stored, so the settings file always holds the user's own values.
namespace cvl {

// Keeps the user's values, unless they are already kept for an airport not yet left.
void lf_storeParkSettings();
// Gives the kept values back (clamped to their ranges), stores and shows them; nothing when none are kept.
void lf_restoreParkSettings();

// The settings for an airport without learned file: the soft and week passes follow the quality of its occupation
// data, and the parking percentage the stands count of its airports-database record (none: 30).
void lf_applyQualityDefaults(const QualityFactors& factors, const Airport* airport);

// The settings a learned file carries, each applied and logged when present; parking_percentage 30 when absent.
void lf_applyLearnedSettings(pugi::xml_node document);

}  // namespace cvl
