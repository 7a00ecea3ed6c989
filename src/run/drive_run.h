// One run: the dialogue, the report, the key wait.
#pragma once

// Fails through report_io_failure, never back to its caller.
void drive_run();
