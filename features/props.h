// The fixed props of the street that have a script: the message sign that
// tells of a new note (112), the overhead line mast and the tram stop sign
// that stand while the tram runs (113, 114) and the bollards (116).
#pragma once

constexpr int kMessageSignObject = 112;
constexpr int kMastObject = 113;
constexpr int kTramSignObject = 114;
constexpr int kBollardObject = 116;

void Figur112Script();
void Figur113Script();
void Figur114Script();
void Figur116Script();
// Places the bollards when the scene is set up, before its first frame.
void SetupPfloecke();
// The x of bollard place k (0..7) and whether it is the single post.
int BollardX(int k);
bool IsSinglePost(int k);
