// The program fills the notification table with its own receivers at start-up (tests too).
#pragma once

void InstallNotifyReceivers();
