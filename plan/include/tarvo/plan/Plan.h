#pragma once

// Everything the plan engine offers, for callers that want it all in one include.
#include "tarvo/plan/CandidateTables.h"
#include "tarvo/plan/CodeCountChoices.h"
#include "tarvo/plan/Draw.h"
#include "tarvo/plan/EvaluatePlan.h"
#include "tarvo/plan/FormulaPool.h"
#include "tarvo/plan/PlanReport.h"
#include "tarvo/plan/PlanResult.h"
#include "tarvo/plan/PlayType.h"
#include "tarvo/plan/PlayTypeRule.h"
#include "tarvo/plan/RandomGenerator.h"
