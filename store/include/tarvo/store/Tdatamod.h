#pragma once

#include "tarvo/store/Connection.h"
#include "tarvo/store/Dataset.h"

namespace tarvo {

// The data module: the connection and dataset through which the selected lottery's table is read.
// Both start unconfigured; OpenDrawTable configures them each time it opens the table.
class Tdatamod {
public:
    Tdatamod() { DataModuleCreate(); }

    Connection t_con;
    Dataset t_caipiao;

private:
    void DataModuleCreate() {}
};

} // namespace tarvo
