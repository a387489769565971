#pragma once

// Makes the fonts the layouts name available where they are not installed:
// Arial and Segoe UI are drawn with Liberation Sans (Arial's metrics), Tahoma
// with Wine's metric-compatible Tahoma. Once per process; later calls do nothing.
void registerReportFonts();
