// The two engines, for what a run, its text and its check are about.
#pragma once

enum class EngineKind { MonteCarlo, Analytical };
