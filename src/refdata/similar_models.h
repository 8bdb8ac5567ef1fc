#pragma once

#include <string>
#include <unordered_map>
#include <vector>

// When no livery of an aircraft's own type is installed, the livery matching falls back to a similar type: another
// member of the type's group in the aircraft database's SimilarGroups that has installed liveries, preferably one the
// aircraft's airline has liveries of. Built on the worker thread right after the livery tables; queried by the livery
// matching on the worker thread only (the queries shuffle in place and share their result lists: no lock, one thread).
namespace cvl {

using ModelList = std::vector<std::string>;

// Type -> the other members of its group that have installed liveries, in the group's order. No key without any.
extern std::unordered_map<std::string, ModelList> TypeSimilarModels;
// Airline -> (type the airline has no livery of -> the members of TypeSimilarModels[type] it has liveries of).
extern std::unordered_map<std::string, std::unordered_map<std::string, ModelList>> AirlineSimilarModels;

// Room for the one entry of the shared result list, so that a query never allocates the list while spawning.
void gf_reserveSimilarModelResults();

// Builds both tables afresh from SimilarGroups and the livery tables and logs "{} similar model definitions".
void gf_buildSimilarModels();

// The installed types that may stand for the type, shuffled while RANDOM is on. Without any, a type of category
// Light, Buzjets or Rotorcraft gets one random installed model of its category; the others get an empty list. The
// reference stays valid until the next call of either query, which may reorder or overwrite the list.
const ModelList& gf_similarModels(const std::string& type);

// The similar installed types of the type that the airline has liveries of, shuffled while RANDOM is on; an empty list
// when there are none. Valid as the reference of gf_similarModels.
const ModelList& gf_similarModelsForAirline(const std::string& airline, const std::string& type);

}  // namespace cvl
