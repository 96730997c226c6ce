#!/bin/bash
# placeholder replaced below
