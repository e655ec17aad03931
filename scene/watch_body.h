// The static body of the watch: case, glass and dial.
#pragma once

// Records CaseList, GlassList and DialList. Needs both textures loaded and the Quadric.
void BuildWatchBodyLists();
