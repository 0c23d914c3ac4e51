#pragma once

// One whole run of the tool; returns the process exit status.
int runVelmarCov(int& argc, char** argv);
