#pragma once

// The start-up work of the liveries: the scan of the installed AI packages into LiveriesScanned.xml, and the building
// of the livery tables from that file. Worker thread.
namespace cvl {

// Scans the installed liveries; returns early when a stop has been requested.
void gf_scanLiveries();
// Reads LiveriesScanned.xml and builds the livery tables, then the similar-model tables. Every run cycle; nothing once
// a stop is under way.
void gf_processScannedLiveries();
// Writes the matching summary of the live traffic's liveries to the log.
void gf_liveryMatchingSummary();

}  // namespace cvl
