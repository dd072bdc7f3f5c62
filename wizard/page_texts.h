#pragma once

// The page messages of the wizard, drawn by the message panel; byte for byte as shown.

constexpr const char* WelcomeText =
    "Welcome to the \"Tessaly for MS Excel V2.6\" Setup program. This program will install "
    "\"Tessaly for MS Excel V2.6\" on your computer. Click Next to continue or Cancel to quit "
    "from Setup program.";

constexpr const char* CopyText = "Files copy to selected disk.";

constexpr const char* FinishText =
    "Setup has finished installing the application on your computer. You may launch program "
    "\"Orvandel\" and run installed plugin \"Tessaly for MS Excel V2.6\" from menu\\Plug-ins. "
    "Click Finish to continue.";

constexpr const char* WarningText =
    "  \"Tessaly for MS Excel V2.6\" is a plugin and it require program \"Orvandel\". If "
    "\"Orvandel\" is not installed on your computer or if you have old version of this program "
    "you can not install \"Tessaly for MS Excel V2.6\". If you want to continue installation "
    "you must download and install program - \"Orvandel\". That program has size about 1.5 Mb "
    "and you can  find it on Tarnwick homepage. Also you can directly download it if you press "
    "to the following button.";
